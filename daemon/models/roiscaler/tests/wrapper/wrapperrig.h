// A model wrapper on a simulated ROI scaler: the converter on a
// pseudo-terminal, a command engine identified on it (the model tests'
// LinkedWrapper), and the wrapper the model registry makes for its module
// type, as the device factory does.
#ifndef PORTVANE_ROISCALER_TEST_WRAPPERRIG_H
#define PORTVANE_ROISCALER_TEST_WRAPPERRIG_H

#include <functional>
#include <memory>
#include <vector>

#include "convsim/simulator.h"
#include "qtwait.h"
#include "roiscaler/wrapper/wrapper.h"
#include "wrappertesting.h"

// The module types of the four models.
enum : int { kHestra = 5, kMardex = 14, kPendro = 18, kQuastel = 19 };
extern const int kScalerTypes[4];
const char* ModelName(int type);

class WrapperRig {
public:
    // Starts the converter; tweak changes its personality first.
    explicit WrapperRig(int type, const std::function<void(convsim::Personality&)>& tweak = nullptr);

    // Identifies the converter and builds its wrapper; false when either
    // failed.
    bool Start();

    RoiScalerWrapper& W() { return *_wrapper; }
    convsim::Simulator& Sim() { return *_sim; }
    int Type() const { return _type; }
    const roiscaler::RoiModel& Model() const { return _wrapper->Model(); }

    // The id of a parameter of the model.
    quint32 Id(roiscaler::Param p) const { return _wrapper->Model().Id(p); }
    QVariant Value(quint32 id) const { return _wrapper->State().value(id); }
    quint32 U(roiscaler::Param p) const { return Value(Id(p)).toUInt(); }
    QString S(roiscaler::Param p) const { return Value(Id(p)).toString(); }
    int Field(int field) const;

    // A client's change, as the store delivers it.
    void Set(quint32 id, const QVariant& value);

    // Commands the converter received after mark.
    uint64_t Mark() const { return _sim->CommandCount(); }
    std::vector<convsim::LogEntry> Since(uint64_t mark) const;
    static std::vector<int> Codes(const std::vector<convsim::LogEntry>& entries);
    // The converter's configuration memory and live registers, by register.
    UByte Memory(int reg) const;
    UByte Live(int reg) const;
    // Changes what the converter reports (registers of the status image).
    void SetStatus(int reg, const std::vector<UByte>& bytes);
    // A status poll now, as the wrapper's timer does it.
    void Poll() { _wrapper->PollStatus(); }

private:
    int _type;
    wrappertesting::LinkedWrapper _linked;
    convsim::Simulator* _sim;
    RoiScalerWrapper* _wrapper = nullptr; // owned by _linked
};

#endif

// A Jastel wrapper on a simulated LUT converter, for the wrapper's tests.
#ifndef PORTVANE_MODELS_TESTS_JASTELTESTING_H
#define PORTVANE_MODELS_TESTS_JASTELTESTING_H

#include <functional>
#include <memory>

#include "convsim/lutflash.h"
#include "jastel/cjastel.h"
#include "jastel/jastelwrapper.h"
#include "tovikconfig/models/jastelparamids.h"
#include "wrappertesting.h"

namespace jasteltesting {

using namespace wrappertesting;
using namespace tovikconfig::jastel;

constexpr int kJastelType = 12;
constexpr UByte kReadCode = 0x9E;
constexpr UByte kWriteCode = 0x9D;

class JastelTest : public ::testing::Test {
protected:
    // Starts a LUT converter, changed by tweak, with an engine identified
    // on it; Build() then builds the wrapper.
    void Start(const std::function<void(convsim::Personality&)>& tweak = nullptr)
    {
        convsim::Personality p = convsim::Personality::ForType(kJastelType);
        if (tweak)
            tweak(p);
        _w = nullptr;
        _linked.reset(new LinkedWrapper(p));
        ASSERT_EQ(_linked->OpenResult(), 0);
    }
    void Build()
    {
        _built = Mark();
        _w = _linked->Build<JastelWrapper>();
    }
    void Plug(const std::function<void(convsim::Personality&)>& tweak = nullptr)
    {
        Start(tweak);
        Build();
    }

    convsim::Simulator& Sim() { return _linked->Sim(); }
    size_t Mark() { return Sim().Log().size(); }
    ConfigDeviceState_t& State() { return Inside::State(_w); }
    CJastel& Block() { return *static_cast<CJastel*>(Inside::Block(_w)); }
    QTimer* Timer() { return Inside::Timer(_w); }
    std::vector<RegisterCommand> RegistersSince(size_t mark) { return RegisterCommands(LogSince(Sim(), mark)); }

    // Refuses (error status 1) the register commands at an address: every
    // one, or only the nth of them.
    void Refuse(UByte code, uint32_t address, unsigned nth = 0)
    {
        convsim::Fault f;
        f.kind = convsim::Fault::Kind::ErrorStatus;
        f.code = code;
        f.address = address;
        f.nth = nth;
        f.times = 1;
        Sim().AddFault(f);
    }

    std::unique_ptr<LinkedWrapper> _linked;
    JastelWrapper* _w = nullptr;
    size_t _built = 0; // log entries before the wrapper was built
};

inline QVariant Text(const char* text)
{
    return QVariant(QString::fromLatin1(text));
}

inline QVariant Code(uint value)
{
    return QVariant(value);
}

} // namespace jasteltesting

#endif

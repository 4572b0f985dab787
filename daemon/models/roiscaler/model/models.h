// The four ROI scaler models as one table: one row per model says all that
// tells Hestra, Mardex, Pendro and Quastel apart, for their block and for
// their wrapper. Nothing else asks which model it is.
#ifndef PORTVANE_ROISCALER_MODEL_MODELS_H
#define PORTVANE_ROISCALER_MODEL_MODELS_H

#include <QtGlobal>

#include "blocksupport/rowlist.h"
#include "roiscaler/model/params.h"
#include "tovikconfig/paramtypes.h"
#include "tovikconfig/tovikconfig.h"

namespace roiscaler {

// How a model names its input: always DisplayPort, always HDMI, or DVI
// while the input carries DVI signalling (status byte 53 bit 6) and HDMI
// otherwise.
enum class InputWord { Dp, Hdmi, DviWhenSignalled };

// The models' bits in the block's tables of fields and bit runs.
enum : unsigned { kHestraBlockBit = 1, kMardexBlockBit = 2, kPendroBlockBit = 4, kQuastelBlockBit = 8 };

struct RoiModel {
    // "Hestra"
    const char* name;
    // The wrapper's class name: translation context of its texts.
    const char* className;
    int moduleType;
    tovikconfig::ViveRode_t modelNumber;
    quint32 idBase;
    // From the model's id list.
    ParamIndices indices;

    // The block: the model's bit in the block's field and bit tables, the
    // status bytes it reads from register 44, the settings keys it saves.
    unsigned blockBit;
    UByte statusReadCount;
    UWord settingsKeys;

    // One selection index into the merged list (written raw as the device
    // code), in place of selection, fixed aspect and fixed size.
    bool oneIndexSelection;
    // The modes in the block count only while status byte 20 bit 6 says the
    // input format matches; otherwise they read as 0.
    bool modesNeedMatchingInput;
    // Status byte 59 carries sync mode (bit 5) and rate alarm (bit 7).
    bool rateAlarms;
    // The status pass waits while rereads wait for a measured input.
    bool statusWaitsForInput;
    // After a revert or restore of the fit the block is written once more.
    bool rewritesAfterRevert;
    // A change of input presence enables or disables the output proxy too.
    bool outputProxyFollowsInput;

    // Which steps stream the block into the live registers before writing
    // it (and for the fit step, whether it writes it after streaming).
    bool backgroundStreams;
    bool rotationStreams;
    bool genlockSourceStreams;
    bool outputSettersStream;
    bool outputFormatStreams;
    bool fitStepWrites;

    InputWord inputWord;
    // Genlock state in status byte 20 bits 2..1 (locking, reference or
    // free run) instead of byte 53 bits 5..4 (also locked to the input).
    bool genlockStateInByte20;
    // Input audio present: status byte 59 bit 6 set, else byte 53 bit 6
    // clear.
    bool audioPresentInByte59;
    const char* outConnectedText;
    // Audio selection 0 to 3.
    const char* audioTexts[4];
    // The status pass's lines before it disconnects, numbers 1 to 5.
    const char* disconnectLines[5];

    // The model's extra debug lines.
    bool logsDescriptors;
    bool logsInfoTab;
    bool logsModuleNameFailure;
    bool logsConstraintRefit;
    // A fixed aspect is fitted into the region on every constraint step,
    // not only when the aspect changed.
    bool refitsAspectEveryStep;

    bool Has(Param p) const { return indices[std::size_t(p)] != 0; }
    // The id of a parameter of the model; 0 for one it lacks.
    quint32 Id(Param p) const { return Has(p) ? idBase | indices[std::size_t(p)] : 0; }
    // The parameter of one of the model's ids; Param::kCount for any other id.
    Param ParamOf(quint32 id) const;
    // Rotation, frame delay, flips, fixed aspect and fixed size.
    bool HasProcessing() const { return Has(Param::CfgInFixedAspectMode); }
};

// The four rows, in module-type order.
RowList<RoiModel> RoiModels();
// The row of a module type; null for a type that is no ROI scaler.
const RoiModel* FindRoiModel(int moduleType);

extern const RoiModel& kHestraModel;
extern const RoiModel& kMardexModel;
extern const RoiModel& kPendroModel;
extern const RoiModel& kQuastelModel;

} // namespace roiscaler

#endif

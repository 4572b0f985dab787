// The converter models: one row per module type, made from the model list
// (tovikconfig/models/modellist.h) with who makes each model's parts. The
// device factory finds wrapper makers here; the shipped types/ files and
// the simulator are checked against it.
#ifndef PORTVANE_MODELS_REGISTRY_H
#define PORTVANE_MODELS_REGISTRY_H

#include <QtGlobal>

#include "blocks/cconfigblockif.h"
#include "blocksupport/rowlist.h"
#include "modeldirectory.h"
#include "tovikconfig/tovikconfig.h"

struct ModelRow {
    // The converter's module type, 0 to 33.
    int moduleType;
    // As the module-type catalogue spells it ("HESTRA"); the model's folder
    // (daemon/models/<model>/) and its types/ folder are its lower case.
    const char* name;
    // The descriptor table the dispatch builds for the model's config;
    // 0 for a module type without one.
    tovikconfig::ViveRode_t modelNumber;
    // Published as the slot's device type in config 0.
    quint32 typeCode;
    // The model's configuration block; null while it has none.
    BlockMaker makeBlock;
    // The model's device wrapper; null for a model the factory skips.
    WrapperMaker makeWrapper;
};

class ModelRegistry : public ModelDirectory {
public:
    // Every row, in module-type order (row i is module type i).
    static RowList<ModelRow> Rows();
    // The row of a module type; null outside 0 to 33.
    static const ModelRow* Find(int moduleType);

    WrapperMaker WrapperFor(int moduleType) const override;
};

#endif

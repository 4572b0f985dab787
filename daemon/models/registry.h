// The converter models: one row per module type, the one place that says
// what each model is and who makes its parts. The device factory finds
// wrapper makers here; the catalogue's names, the box's device-type items,
// the shipped types/ files and the simulator are checked against it.
#ifndef PORTVANE_MODELS_REGISTRY_H
#define PORTVANE_MODELS_REGISTRY_H

#include <string>

#include <QtGlobal>

#include "blocks/cconfigblockif.h"
#include "common/rowlist.h"
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
    // The model's folder name: its name in lower case.
    static std::string FolderName(const ModelRow& row);

    WrapperMaker WrapperFor(int moduleType) const override;
};

#endif

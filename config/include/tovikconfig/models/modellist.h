// The converter models: one row per module type, in module-type order (row
// i is module type i). Every list of the models reads these rows: the
// daemon's model registry, the dispatch by model number and the model
// configs' declarations (modelconfigs.h), the box's device-type items, the
// link's module-type names, daemon/models/CMakeLists.txt (a model row's
// folder) and daemon/types/generate.py (the hardware description files).
// The last two read the rows as text: one row a line, written as below.
// Besides its row, a ROI scaler has one in daemon/models/roiscaler/
// roimodels.cpp and an identity-only model one in
// daemon/models/versiononlywrappers.h; the simulator (tools/convsim) keeps
// its own copy, which the registry's tests hold equal to this one.
//
// TOVIK_MODEL_LIST(MODEL, NUMBERED, OTHER) hands each row to the reader's
// macro of its kind; a reader leaves out the columns it does not use.
//
//   MODEL(type, number, NAME, Display, ns, Config, Block, Wrapper, (fpga, start, length))
//     A model with a folder, daemon/models/<NAME in lower case>/.
//     number   its model number (type + 1), also the slot's device type
//     NAME     the module type's name as the catalogue spells it
//     Display  the box's device-type item
//     ns, Config  its table: tovikconfig::ns::Config::AddParamDescriptors
//     Block    its configuration block class (daemon)
//     Wrapper  the wrapper class the device factory builds (daemon), or
//              NoWrapper for a model it skips
//     (fpga, start, length)  its hardware description: the name of FPGA 0
//              and the first register and length of its block 0
//   NUMBERED(type, number, NAME, Display)
//     A model number and a device-type item, but no folder, table or block.
//   OTHER(type, NAME)
//     A module type without a model number: its slot shows "Unknown".
#ifndef TOVIKCONFIG_MODELS_MODELLIST_H
#define TOVIKCONFIG_MODELS_MODELLIST_H

#define TOVIK_MODEL_LIST(MODEL, NUMBERED, OTHER)                                                               \
    OTHER(0, "Unknown")                                                                                         \
    MODEL(1, 2, "ARVEL", "Arvel", arvel, ArvelConfig, CIdrel, NoWrapper, (Main, 0, 4))                         \
    MODEL(2, 3, "BRINDO", "Brindo", brindo, BrindoConfig, CBrindo, NoWrapper, (Main, 0, 4))                    \
    MODEL(3, 4, "CADMER", "Cadmer", cadmer, CadmerConfig, CCadmer, NoWrapper, (Main, 0, 3))                    \
    MODEL(4, 5, "GRAVO", "Gravo", gravo, GravoConfig, CGravo, NoWrapper, (Main, 0, 5))                         \
    MODEL(5, 6, "HESTRA", "Hestra", hestra, HestraConfig, CHestra, HestraWrapper, (Scaler, 3, 41))             \
    MODEL(6, 7, "DOVRIN", "Dovrin", dovrin, DovrinConfig, CDovrin, NoWrapper, (Main, 3, 42))                   \
    MODEL(7, 8, "ESTROW", "Estrow", cestrow, CEstrowConfig, CEstrow, NoWrapper, (Main, 3, 15))                 \
    MODEL(8, 9, "FALCRIN", "Falcrin", falcrin, FalcrinConfig, CFalcrin, NoWrapper, (Main, 0, 4))               \
    MODEL(9, 10, "GESMOR", "Gesmor", gesmor, GesmorConfig, CGesmor, NoWrapper, (Main, 0, 15))                  \
    MODEL(10, 11, "HARVIK", "Harvik", harvik, HarvikConfig, CHarvik, NoWrapper, (Main, 3, 13))                 \
    MODEL(11, 12, "ILMARO", "Ilmaro", ilmaro, IlmaroConfig, CIlmaro, NoWrapper, (Main, 3, 32))                 \
    MODEL(12, 13, "JASTEL", "Jastel", jastel, JastelConfig, CJastel, NoWrapper, (Main, 3, 32))                 \
    MODEL(13, 14, "KELVRO", "Kelvro", ckelvro, CKelvroConfig, CKelvro, NoWrapper, (Main, 3, 13))               \
    MODEL(14, 15, "MARDEX", "Mardex", mardex, MardexConfig, CMardex, MardexWrapper, (Scaler, 3, 41))           \
    MODEL(15, 16, "LOMRIK", "Lomrik", clomrik, CLomrikConfig, CLomrik, NoWrapper, (Main, 3, 13))               \
    MODEL(16, 17, "NOLVAR", "Nolvar", nolvar, NolvarConfig, CNolvar, NoWrapper, (Main, 3, 15))                 \
    NUMBERED(17, 18, "ORSIK", "Orsik")                                                                          \
    MODEL(18, 19, "PENDRO", "Pendro", pendro, PendroConfig, CPendro, PendroWrapper, (Scaler, 3, 41))           \
    MODEL(19, 20, "QUASTEL", "Quastel", quastel, QuastelConfig, CQuastel, QuastelWrapper, (Scaler, 3, 41))     \
    NUMBERED(20, 21, "RIMBOL", "Rimbol")                                                                        \
    NUMBERED(21, 22, "SARVEK", "Sarvek")                                                                        \
    OTHER(22, "TOLVIN")                                                                                         \
    OTHER(23, "UDRASK")                                                                                         \
    OTHER(24, "VENNOR")                                                                                         \
    OTHER(25, "WEXLAR")                                                                                         \
    OTHER(26, "YORVATH")                                                                                        \
    OTHER(27, "ZELMOR")                                                                                         \
    OTHER(28, "AMBREL")                                                                                         \
    OTHER(29, "BEXTON")                                                                                         \
    OTHER(30, "CORVANE")                                                                                        \
    OTHER(31, "DELMOK")                                                                                         \
    OTHER(32, "ESKVAR")                                                                                         \
    OTHER(33, "FORNEL")

#endif

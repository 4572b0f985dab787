// Result codes of the command engine's operations; 0 is success.
#ifndef PORTVANE_ENGINERESULTS_H
#define PORTVANE_ENGINERESULTS_H

enum eEngineResult {
    kEngineOK = 0,
    kEngineProtocolVersionFailed = -1,
    kEngineProtocolMismatch = -2,
    kEngineBadModuleType = -5,
    kEngineNoModuleInfo = -6,
    kEngineConfigReadFailed = -9,
    kEngineTimedOut = -10,
    kEngineCommFailed = -11,
    kEngineStreamFailed = -12,
    kEngineWrongResponse = -13,
    kEngineNoMemory = -14,
    kEngineAborted = -17,
    kEngineBadInterface = -18,
    kEngineBadFPGAID = -19,
    kEngineTypeNotInstalled = -21,
    kEngineNoModuleDescription = -22,
    kEngineWrongModule = -23,
    kEngineResetRefused = -24,
    kEngineJtagTdoMismatch = -25,
    kEngineJtagUnknownInstruction = -26,
    kEngineWriteFailed = -68
};

#endif

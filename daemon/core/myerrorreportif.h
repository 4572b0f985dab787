// The error sink handed to every command engine: texts go to the debug
// channel.
#ifndef PORTVANE_MYERRORREPORTIF_H
#define PORTVANE_MYERRORREPORTIF_H

#include "engine/cerrorreportif.h"

class MyErrorReportIF : public CErrorReportIF {
public:
    ~MyErrorReportIF() override;
    void ReportError(const QString& text) override;
};

#endif

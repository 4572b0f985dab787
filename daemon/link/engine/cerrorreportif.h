// Receives error texts of the converter link.
#ifndef PORTVANE_CERRORREPORTIF_H
#define PORTVANE_CERRORREPORTIF_H

#include <QString>

class CErrorReportIF {
public:
    virtual ~CErrorReportIF() {}
    virtual void ReportError(const QString& text) = 0;
};

#endif

#include "myerrorreportif.h"

#include "base/quoteddebug.h"

MyErrorReportIF::~MyErrorReportIF() {}

void MyErrorReportIF::ReportError(const QString& text)
{
    DebugQuoted(QString("Error in Velora mini i/f: %1").arg(text));
}

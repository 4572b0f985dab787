#include "myerrorreportif.h"

#include <QDebug>

MyErrorReportIF::~MyErrorReportIF() {}

void MyErrorReportIF::ReportError(const QString& text)
{
    qDebug() << QString("Error in Velora mini i/f: %1").arg(text);
}

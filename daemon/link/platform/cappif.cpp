#include "platform/cappif.h"

CAppIF::CAppIF(QObject* parent) : QObject(parent) {}

CAppIF::~CAppIF() = default;

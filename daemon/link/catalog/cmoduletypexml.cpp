#include "catalog/cmoduletypexml.h"

CModuleTypeXML::CModuleTypeXML() = default;
CModuleTypeXML::~CModuleTypeXML() = default;

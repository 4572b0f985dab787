#include "catalog/cassembliesxml.h"

CAssembliesXML::CAssembliesXML() = default;
CAssembliesXML::~CAssembliesXML() = default;

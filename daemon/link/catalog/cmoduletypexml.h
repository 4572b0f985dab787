// Reader of a module-type description file.
#ifndef PORTVANE_CMODULETYPEXML_H
#define PORTVANE_CMODULETYPEXML_H

class CModuleTypeXML {
public:
    CModuleTypeXML();
    virtual ~CModuleTypeXML();
};

#endif

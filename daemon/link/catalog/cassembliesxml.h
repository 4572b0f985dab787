// Reader of a module type's assembly description file.
#ifndef PORTVANE_CASSEMBLIESXML_H
#define PORTVANE_CASSEMBLIESXML_H

class CAssembliesXML {
public:
    CAssembliesXML();
    virtual ~CAssembliesXML();
};

#endif

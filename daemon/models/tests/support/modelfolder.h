// A model's folder, daemon/models/<folder>/, and its types/<folder>/: its
// module-type name in lower case.
#ifndef TOVIK_TEST_MODELFOLDER_H
#define TOVIK_TEST_MODELFOLDER_H

#include <cctype>
#include <string>

inline std::string ModelFolder(const char* name)
{
    std::string folder(name);
    for (char& c : folder)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return folder;
}

#endif

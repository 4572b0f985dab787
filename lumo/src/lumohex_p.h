// Hexadecimal digits of the library's text forms.
#ifndef LUMO_LUMOHEX_P_H
#define LUMO_LUMOHEX_P_H

// The value of a hexadecimal digit in either case; -1 for anything else.
inline int lumoHexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

#endif

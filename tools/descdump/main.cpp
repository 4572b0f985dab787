// tovik-descdump [OPTION]... MODEL: prints a model's descriptor table in the
// canonical dump form (descdumptool.h).
#include "descdumptool.h"

int main(int argc, char** argv)
{
    return descdump::Main("tovik-descdump", argc, argv, {});
}

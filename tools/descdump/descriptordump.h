// Canonical text form of a descriptor table: one block per descriptor, in
// the table's order, every field the descriptor classes hold.
#ifndef DESCDUMP_DESCRIPTORDUMP_H
#define DESCDUMP_DESCRIPTORDUMP_H

#include <ostream>
#include <string>

class DescriptorTable;
class ParamDescriptor;

namespace descdump {

// Double-quoted, with \" \\ and \xHH for bytes outside printable ASCII.
std::string Quote(const std::string& text);

void DumpDescriptor(std::ostream& out, ParamDescriptor* descriptor);
void DumpTable(std::ostream& out, const DescriptorTable& table);

} // namespace descdump

#endif

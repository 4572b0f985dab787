// The connection to one config: 0 the box's store, 1..4 the converter in
// that device slot, whose model is read from the box's store first.
#ifndef KNOBCTL_CONNECTION_H
#define KNOBCTL_CONNECTION_H

#include <string>

class Config;
class DescriptorTable;

// The store URL of a config id.
std::string ConfigURL(int configID);

// Fills the config's descriptor table for its model and connects. False
// when the box's store cannot be reached for a converter's model, or the
// box table lacks the slot's type; a true result may still leave config
// null when the config's own store cannot be reached.
bool ConnectConfig(int configID, std::string& modelName, DescriptorTable*& table, Config*& config,
                   Config*& eventsConfig);

#endif

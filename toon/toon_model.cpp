// Placeholder until the tone shader lands.
#include "toon/toon_model.h"

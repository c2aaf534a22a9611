// Placeholder until the reader lands.
#include "model/glm.h"

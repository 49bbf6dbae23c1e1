#include "datatypes/DTLightAnimDescriptor.h"

#include "datatypes/DTVariant.h"

DTLightAnimDescriptor::DTLightAnimDescriptor() {
}

DTLightAnimDescriptor::~DTLightAnimDescriptor() {
}

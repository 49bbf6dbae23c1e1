#include "datatypes/descriptor/DTLightAnimDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTLightAnimDescriptor::DTLightAnimDescriptor() {
}

DTLightAnimDescriptor::~DTLightAnimDescriptor() {
}

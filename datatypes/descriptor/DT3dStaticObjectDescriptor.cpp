#include "datatypes/descriptor/DT3dStaticObjectDescriptor.h"

#include "datatypes/property/DTVariant.h"

DT3dStaticObjectDescriptor::DT3dStaticObjectDescriptor() {
}

DT3dStaticObjectDescriptor::~DT3dStaticObjectDescriptor() {
}

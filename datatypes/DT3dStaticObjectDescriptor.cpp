#include "datatypes/DT3dStaticObjectDescriptor.h"

#include "datatypes/DTVariant.h"

DT3dStaticObjectDescriptor::DT3dStaticObjectDescriptor() {
}

DT3dStaticObjectDescriptor::~DT3dStaticObjectDescriptor() {
}

#include "datatypes/descriptor/DTAnimationDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTAnimationDescriptor::DTAnimationDescriptor() {
}

DTAnimationDescriptor::~DTAnimationDescriptor() {
}

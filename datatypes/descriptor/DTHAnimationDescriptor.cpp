#include "datatypes/descriptor/DTHAnimationDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTHAnimationDescriptor::DTHAnimationDescriptor() {
}

DTHAnimationDescriptor::~DTHAnimationDescriptor() {
}

#include "datatypes/descriptor/DTMorphAnimationDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTMorphAnimationDescriptor::DTMorphAnimationDescriptor() {
}

DTMorphAnimationDescriptor::~DTMorphAnimationDescriptor() {
}

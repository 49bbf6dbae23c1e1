#include "datatypes/DTMorphAnimationDescriptor.h"

#include "datatypes/DTVariant.h"

DTMorphAnimationDescriptor::DTMorphAnimationDescriptor() {
}

DTMorphAnimationDescriptor::~DTMorphAnimationDescriptor() {
}

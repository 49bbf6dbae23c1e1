#include "datatypes/DTAnimationDescriptor.h"

#include "datatypes/DTVariant.h"

DTAnimationDescriptor::DTAnimationDescriptor() {
}

DTAnimationDescriptor::~DTAnimationDescriptor() {
}

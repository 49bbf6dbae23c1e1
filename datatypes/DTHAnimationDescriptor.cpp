#include "datatypes/DTHAnimationDescriptor.h"

#include "datatypes/DTVariant.h"

DTHAnimationDescriptor::DTHAnimationDescriptor() {
}

DTHAnimationDescriptor::~DTHAnimationDescriptor() {
}

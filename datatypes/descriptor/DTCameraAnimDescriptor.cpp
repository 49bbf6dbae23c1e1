#include "datatypes/descriptor/DTCameraAnimDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTCameraAnimDescriptor::DTCameraAnimDescriptor() {
}

DTCameraAnimDescriptor::~DTCameraAnimDescriptor() {
}

#include "datatypes/DTCameraAnimDescriptor.h"

#include "datatypes/DTVariant.h"

DTCameraAnimDescriptor::DTCameraAnimDescriptor() {
}

DTCameraAnimDescriptor::~DTCameraAnimDescriptor() {
}

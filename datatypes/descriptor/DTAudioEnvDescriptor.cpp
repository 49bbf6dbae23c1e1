#include "datatypes/descriptor/DTAudioEnvDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTAudioEnvDescriptor::DTAudioEnvDescriptor() {
}

DTAudioEnvDescriptor::~DTAudioEnvDescriptor() {
}

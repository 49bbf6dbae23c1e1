#include "datatypes/DTAudioEnvDescriptor.h"

#include "datatypes/DTVariant.h"

DTAudioEnvDescriptor::DTAudioEnvDescriptor() {
}

DTAudioEnvDescriptor::~DTAudioEnvDescriptor() {
}

#include "framework/core/level/EFSoundContainerDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 88;
constexpr s32 INSTANCE_CLASS_ID	= 89;

}

EFSoundContainerDescriptor::EFSoundContainerDescriptor() {
}

EFSoundContainerDescriptor::~EFSoundContainerDescriptor() {
}

s32 EFSoundContainerDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFSoundContainerDescriptor::GetClassName() const {
	return "SOUND_CONTAINER_DESCR";
}

s32 EFSoundContainerDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFSoundContainerDescriptor::GetDescriptor() {
	return &moDescriptor;
}

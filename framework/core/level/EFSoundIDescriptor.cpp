#include "framework/core/level/EFSoundIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 7;
constexpr s32 INSTANCE_CLASS_ID	= 23;

}

EFSoundIDescriptor::EFSoundIDescriptor() {
}

EFSoundIDescriptor::~EFSoundIDescriptor() {
}

s32 EFSoundIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFSoundIDescriptor::GetClassName() const {
	return "SOUND_DESCR";
}

s32 EFSoundIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFSoundIDescriptor::GetDescriptor() {
	return &moDescriptor;
}

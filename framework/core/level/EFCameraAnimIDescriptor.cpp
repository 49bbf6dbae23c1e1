#include "framework/core/level/EFCameraAnimIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 85;
constexpr s32 INSTANCE_CLASS_ID	= 83;

}

EFCameraAnimIDescriptor::EFCameraAnimIDescriptor() {
}

EFCameraAnimIDescriptor::~EFCameraAnimIDescriptor() {
}

s32 EFCameraAnimIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFCameraAnimIDescriptor::GetClassName() const {
	return "DT_CAMERA_ANIM_DESCR";
}

s32 EFCameraAnimIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFCameraAnimIDescriptor::GetDescriptor() {
	return &moDescriptor;
}

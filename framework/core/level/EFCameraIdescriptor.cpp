#include "framework/core/level/EFCameraIdescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 12;
constexpr s32 INSTANCE_CLASS_ID	= 16;

}

EFCameraIdescriptor::EFCameraIdescriptor() {
}

EFCameraIdescriptor::~EFCameraIdescriptor() {
}

s32 EFCameraIdescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFCameraIdescriptor::GetClassName() const {
	return "CAMERA_DESCR";
}

s32 EFCameraIdescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFCameraIdescriptor::GetDescriptor() {
	return &moDescriptor;
}

#include "framework/core/level/EF3dObjectIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 3;
constexpr s32 INSTANCE_CLASS_ID	= 15;

}

EF3dObjectIDescriptor::EF3dObjectIDescriptor() {
}

EF3dObjectIDescriptor::~EF3dObjectIDescriptor() {
}

s32 EF3dObjectIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EF3dObjectIDescriptor::GetClassName() const {
	return "3D_OBJECT_DESCR";
}

s32 EF3dObjectIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EF3dObjectIDescriptor::GetDescriptor() {
	return &moDescriptor;
}

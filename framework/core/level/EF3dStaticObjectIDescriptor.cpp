#include "framework/core/level/EF3dStaticObjectIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 2;
constexpr s32 INSTANCE_CLASS_ID	= 24;

}

EF3dStaticObjectIDescriptor::EF3dStaticObjectIDescriptor() {
}

EF3dStaticObjectIDescriptor::~EF3dStaticObjectIDescriptor() {
}

s32 EF3dStaticObjectIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EF3dStaticObjectIDescriptor::GetClassName() const {
	return "3D_STATIC_OBJECT_DESCR";
}

s32 EF3dStaticObjectIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EF3dStaticObjectIDescriptor::GetDescriptor() {
	return &moDescriptor;
}

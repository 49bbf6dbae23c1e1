#include "framework/core/level/EFAnimIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 75;
constexpr s32 INSTANCE_CLASS_ID	= 74;

}

EFAnimIDescriptor::EFAnimIDescriptor() {
}

EFAnimIDescriptor::~EFAnimIDescriptor() {
}

s32 EFAnimIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFAnimIDescriptor::GetClassName() const {
	return "DT_ANIM_NODE_DESCR";
}

s32 EFAnimIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFAnimIDescriptor::GetDescriptor() {
	return &moDescriptor;
}

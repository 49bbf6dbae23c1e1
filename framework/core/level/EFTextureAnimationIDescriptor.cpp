#include "framework/core/level/EFTextureAnimationIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 11;
constexpr s32 INSTANCE_CLASS_ID	= 84;

}

EFTextureAnimationIDescriptor::EFTextureAnimationIDescriptor() {
}

EFTextureAnimationIDescriptor::~EFTextureAnimationIDescriptor() {
}

s32 EFTextureAnimationIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFTextureAnimationIDescriptor::GetClassName() const {
	return "TEXTURE_ANIM_DESCR";
}

s32 EFTextureAnimationIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFTextureAnimationIDescriptor::GetDescriptor() {
	return &moDescriptor;
}

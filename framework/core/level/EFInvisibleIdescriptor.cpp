#include "framework/core/level/EFInvisibleIdescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 51;
constexpr s32 INSTANCE_CLASS_ID	= 52;

}

EFInvisibleIdescriptor::EFInvisibleIdescriptor() {
}

EFInvisibleIdescriptor::~EFInvisibleIdescriptor() {
}

s32 EFInvisibleIdescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFInvisibleIdescriptor::GetClassName() const {
	return "INVISIBLE_DESCR";
}

s32 EFInvisibleIdescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFInvisibleIdescriptor::GetDescriptor() {
	return &moDescriptor;
}

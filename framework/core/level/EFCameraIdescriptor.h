/*
===============================================================================

	Instance descriptor of a camera, over a DTPosObjectDescriptor. Its
	instance class 16 is made by no creator, so its place in the object
	stays empty.

===============================================================================
*/
#ifndef EF_CAMERA_I_DESCRIPTOR_H
#define EF_CAMERA_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTPosObjectDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFCameraIdescriptor : public EFBaseIDescriptor {
public:
							EFCameraIdescriptor();
	virtual					~EFCameraIdescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTPosObjectDescriptor	moDescriptor;
};

#endif

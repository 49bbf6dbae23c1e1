/*
===============================================================================

	Instance descriptor of a camera animation: over a
	DTCameraAnimDescriptor, it makes a camera animation node (class 83).

===============================================================================
*/
#ifndef EF_CAMERA_ANIM_I_DESCRIPTOR_H
#define EF_CAMERA_ANIM_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTCameraAnimDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFCameraAnimIDescriptor : public EFBaseIDescriptor {
public:
							EFCameraAnimIDescriptor();
	virtual					~EFCameraAnimIDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTCameraAnimDescriptor	moDescriptor;
};

#endif

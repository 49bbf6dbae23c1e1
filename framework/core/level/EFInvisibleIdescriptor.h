/*
===============================================================================

	Instance descriptor of an invisible object, over a
	DTPosObjectDescriptor. Its instance class 52 is made by no creator, so
	its place in the object stays empty.

===============================================================================
*/
#ifndef EF_INVISIBLE_I_DESCRIPTOR_H
#define EF_INVISIBLE_I_DESCRIPTOR_H

#include "datatypes/descriptor/DTPosObjectDescriptor.h"
#include "framework/core/level/EFBaseIDescriptor.h"

class EFInvisibleIdescriptor : public EFBaseIDescriptor {
public:
							EFInvisibleIdescriptor();
	virtual					~EFInvisibleIdescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	s32						GetInstanceCLSID() const override;
	DTBaseInstanceDescriptor *	GetDescriptor() override;

	DTPosObjectDescriptor	moDescriptor;
};

#endif

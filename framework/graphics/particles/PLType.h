/*
===============================================================================

	A particle type ("PL_TYPE", class 45) with its texture, looked up by
	name in the current texture dictionary and set on the type's material.

	The first type made creates the shared default material on heap 0; it
	lives until DestroyDefaultMaterial (the manager's destruction), so a
	second engine lifetime makes a fresh one.

===============================================================================
*/
#ifndef PL_TYPE_H
#define PL_TYPE_H

#include "framework/graphics/particles/PLType_BC.h"

struct RwTexture;

constexpr s32 PL_TYPE_CLASS_ID	= 45;

class PLType : public PLType_BC {
public:
							PLType();

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	s32						SetTexture( const char * name ) override;

	static void				DestroyDefaultMaterial();

	RwTexture *				mpoTexture = nullptr;

	static RpMaterial *		mpDefaultMaterial;
};

#endif

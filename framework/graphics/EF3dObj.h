/*
===============================================================================

	The drawable part of a game object: a positioned instance sharing a
	loaded model resource and its clump.

	Only what the game object and the world use exists so far: the shared
	resource, the state flags, the clump and its skeleton, the transparent
	bucket, lighting, drawing and the hierarchy update (the last three
	recorded in the call trace) and the shallow copy. Drawing itself, the
	hierarchy and collision set-up come with the 3D objects' own work.

===============================================================================
*/
#ifndef EF_3D_OBJ_H
#define EF_3D_OBJ_H

#include "framework/core/world/EFPosData.h"

class DTSphere;
class EFPhysic;
struct RpClump;
struct RpHAnimHierarchy;

constexpr s32 EF_3D_OBJ_CLASS_ID			= 15;

// mui3dObjState.
constexpr u32 EF_3D_OBJ_VISIBLE				= 0x2;
constexpr u32 EF_3D_OBJ_HAS_HIERARCHY		= 0x4;
constexpr u32 EF_3D_OBJ_SHADOW_CASTER		= 0x8;
constexpr u32 EF_3D_OBJ_ALPHA				= 0x10;
constexpr u32 EF_3D_OBJ_ADDITIVE			= 0x100;
constexpr u32 EF_3D_OBJ_MULTIPLIED			= 0x200;

// Transparent bucket of a new object.
constexpr u32 EF_3D_OBJ_DEFAULT_PRIORITY	= 32;

class EF3dObj : public EFPosData {
public:
							EF3dObj();
	// Releases the resource, deleting it with its last user.
	virtual					~EF3dObj();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// Keeps the resource the factory handed over.
	void					SetRessource( EFRessource * ressource ) override;
	// A new object over a copy of the resource.
	EFInstance *			ShallowCopy() override;

	// Draws the clump's atomics of the level of detail in the low bits
	// of clipOps (the low 16 bits of a camera's clip operations word).
	virtual void			Render( u16 clipOps );

	// Sets (non-zero) or clears the lit flag of the clump's geometry.
	void					LightObject( u32 lit );
	// Brings the skeleton's frames up to date with its transforms.
	void					UpdateHierarchy();
	// The sphere the clipping pass tests, or null while the object keeps
	// none (so far always); setting one is not kept yet.
	DTSphere *				GetClippingBSphere();
	void					SetClippingBSphere( DTSphere & sphere );
	// Gives body the collision primitives that the model's data describes
	// (recorded in the call trace until models carry that data).
	void					CreateCollisionPrimitives( EFPhysic & body );

	EFRessource *			mp3dObjRes;
	u32						mui3dObjState;
	RpClump *				mpClump;
	RpHAnimHierarchy *		mpHierarchy;
	u32						muiTransparentPriority;
};

#endif

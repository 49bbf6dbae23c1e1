/*
===============================================================================

	Portable base of a 3D object: the shared model resource, the state
	flags, the resource's clump and its skeleton.

	The resource is counted by the objects holding it: the destructor of
	the finished object releases it (EF3dObj), deleting it with its last
	user.

===============================================================================
*/
#ifndef EF_3D_OBJ_BC_H
#define EF_3D_OBJ_BC_H

#include "framework/core/world/EFPosData.h"

struct RpClump;
struct RpHAnimHierarchy;

// mui3dObjState.
constexpr u32 EF_3D_OBJ_VISIBLE				= 0x2;		// set at creation
constexpr u32 EF_3D_OBJ_HAS_HIERARCHY		= 0x4;
constexpr u32 EF_3D_OBJ_SHADOW_CASTER		= 0x8;
constexpr u32 EF_3D_OBJ_ALPHA				= 0x10;
constexpr u32 EF_3D_OBJ_TRANSFO_DRIVEN		= 0x80;		// the transforms drive the hierarchy
constexpr u32 EF_3D_OBJ_ADDITIVE			= 0x100;
constexpr u32 EF_3D_OBJ_MULTIPLIED			= 0x200;
constexpr u32 EF_3D_OBJ_BLENDING_COLOR		= 0x400;	// a blending colour other than white

class EF3dObj_BC : public EFPosData {
public:
							EF3dObj_BC();
	virtual					~EF3dObj_BC();

	// Keeps the resource the factory handed over.
	void					SetRessource( EFRessource * ressource ) override;
	EFRessource *			GetRessource() const { return mp3dObjRes; }

	EFRessource *			mp3dObjRes;
	u32						mui3dObjState;
	RpClump *				mpClump;
	RpHAnimHierarchy *		mpHierarchy;
};

#endif

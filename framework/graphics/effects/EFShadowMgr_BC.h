/*
===============================================================================

	Portable part of the shadow manager: the casters, the eight shadow
	entries of the camera being rendered and the geometry of the shadow
	cameras.

	A caster is a game object with its 3D object and a bounding sphere
	around its atomics (centre in the object's frame space). A shadow is a
	projector occurrence with the darkening blend: it takes an entry, whose
	camera frames the caster (from above for a drop-down shadow, from a
	light for a cast one) and, for a silhouette, renders it into the
	entry's own small texture.

	Every shadow camera looks along at with right = UP x at (UP = +y, or
	+z when at is nearly vertical) and up = at x right, clips at 0.1 and
	10000.0, and bounds its occurrence with planes through P and P +
	reach x at.

===============================================================================
*/
#ifndef EF_SHADOW_MGR_BC_H
#define EF_SHADOW_MGR_BC_H

#include "framework/graphics/EFCameraProjection_e.h"
#include "framework/graphics/effects/EFShadowParams.h"
#include "graphics3d/core/RwV3d.h"

class DTFrame;
class EF3dObj;
class EFCamera;
class EFGameObject;
class EFLight;
struct RwCamera;
struct RwFrame;
struct RwTexture;
struct _sProjectorOccurence;

// Shadows a camera draws, and entries that hold them.
constexpr u32 EF_SHADOW_ENTRIES			= 8;

// _sShadowEntry flags.
constexpr u32 EF_SHADOW_ENTRY_USED		= 0x1;
constexpr u32 EF_SHADOW_ENTRY_64		= 0x2;
constexpr u32 EF_SHADOW_ENTRY_128		= 0x4;
constexpr u32 EF_SHADOW_ENTRY_256		= 0x8;

// _ShadowParams uiFlags.
constexpr u32 EF_SHADOW_SILHOUETTE_DROP	= 0x2;
constexpr u32 EF_SHADOW_NONE			= 0x4;

class EFShadowMgr_BC {
public:
	// A caster record.
	struct _sObjectEntry {
		_sObjectEntry *		mpNext;
		EFGameObject *		mpoObject;
		EF3dObj *			mpo3dObj;
		// Bounding sphere in the 3D object's frame space.
		RwV3d				moCenterOffset;
		f32					mfRadius;
	};

	struct _sShadowEntry {
		u32					uiFlags;
		// Made on first use, without a frame or rasters of its own.
		EFCamera *			pCamera;
		RwTexture *			pTexture64;
		RwTexture *			pTexture128;
		// Lent from the pool for the current camera.
		RwTexture *			pTexture256;
	};

							EFShadowMgr_BC();
	virtual					~EFShadowMgr_BC();
							EFShadowMgr_BC( const EFShadowMgr_BC & ) = delete;
	EFShadowMgr_BC &		operator=( const EFShadowMgr_BC & ) = delete;

	// Inverts and frames a silhouette just rendered by the camera.
	virtual void			ApplyPostProcesses( RwCamera * camera ) = 0;

	// A caster record with its sphere, in front: 1, or 0 without memory.
	u32						AddCaster( EFGameObject * object, EF3dObj * model );
	// Removes every record of the object: 1 when there was one.
	u32						RemoveCaster( EFGameObject * object );
	const _sObjectEntry *	GetFirstCaster() const { return mpCasters; }

	// The caster's sphere from its atomics' spheres.
	static void				InitCaster( _sObjectEntry & caster );

	u32						GetShadowCount() const { return muiShadowCount; }
	const _sShadowEntry &	GetEntry( u32 index ) const { return maEntries[index]; }

	// Scales the occurrence's colour down with the light's distance: 1
	// up to fade start ratio x radius, 0 from the radius on.
	static void				AdjustShadowIntensity( _sProjectorOccurence & occurrence, const _ShadowParams & params,
												   const RwV3d & light, f32 radius, const RwV3d & caster );

	// Written by the logic's shadow switch; nothing reads it.
	static u8				bDoShadowHackThing;

protected:
	// Counters to 0, every entry unused; entry cameras made when missing.
	void					InitFrame();
	// The drop-down camera: from the joint's (or the 3D object's) position.
	void					PrepareDropDownCamera( _sProjectorOccurence & occurrence, RwFrame * frame,
												   const _sObjectEntry & caster, _sShadowEntry & entry, f32 scale );
	// A parallel camera behind the caster's sphere, looking along the
	// frame's look-at axis.
	void					PrepareParallelCamera( _sProjectorOccurence & occurrence, RwFrame * frame,
												   const _sObjectEntry & caster, _sShadowEntry & entry, f32 scale );
	// A perspective camera at the light, framing the caster's sphere.
	// False when the light is inside or on the sphere.
	bool					PreparePerspectiveCamera( _sProjectorOccurence & occurrence, const RwV3d & light,
													  const _sObjectEntry & caster, _sShadowEntry & entry );

	_sObjectEntry *			mpCasters;
	u32						muiShadowCount;
	u32						muiEntry;
	DTFrame *				mpDropFrame;
	RwTexture *				mpDefaultTexture;
	_sShadowEntry			maEntries[EF_SHADOW_ENTRIES];

	void					RemoveAllCasters();
};

// The world position of a frame.
RwV3d EFShadowFramePosition( RwFrame * frame );

#endif

/*
===============================================================================

	Portable part of the projector manager: the projectors by handle, the
	objects that receive projections and the occurrences to draw for the
	camera being rendered.

	Projectors live in a map of 37 buckets; walking it (bucket by bucket,
	each chain newest first) decides which projectors draw when more than
	eight are visible. Handles start at 0x1D000000 and never restart.
	Receivers are kept newest first, one record per 3D object that
	receives. Each camera's Begin empties the occurrences and lets every
	projector add one; the shadow manager adds its shadows the same way.
	At most eight occurrences are held per camera; they stay until the
	next Begin.

===============================================================================
*/
#ifndef EF_PROJECTOR_MGR_BC_H
#define EF_PROJECTOR_MGR_BC_H

#include "datatypes/containers/DTMap.h"
#include "graphics3d/core/RwV3d.h"

class EF3dObj;
class EFCamera;
class EFGameObject;
class EFProjector;
struct RwTexture;

// Occurrences a camera draws.
constexpr u32 EF_PROJECTOR_MAX_OCCURENCES	= 8;
// Blending functions: additive, darkening (destination x (1 - source)),
// anything else alpha.
constexpr u32 EF_PROJECTOR_BLEND_ADDITIVE	= 0;
constexpr u32 EF_PROJECTOR_BLEND_DARKEN		= 1;
// Handle of the first projector.
constexpr u32 EF_PROJECTOR_FIRST_HANDLE		= 0x1D000000;

// A plane as normal and distance: points p with normal . p + distance = 0.
struct EFProjectorPlane {
	RwV3d					oNormal;
	f32						fDistance;
};

// One projection to draw, copied by value into the manager.
struct _sProjectorOccurence {
	// Normal = the projector's look-at axis, distance -(at . position).
	EFProjectorPlane		oNearPlane;
	// Normal = -at, distance at . far point.
	EFProjectorPlane		oFarPlane;
	RwV3d					oPosition;
	f32						fPad0;
	// Position + reach x at.
	RwV3d					oFarPoint;
	f32						fPad1;
	// Only the first value is drawn (as the vertices' intensity).
	f32						afColor[4];
	RwTexture *				pTexture;
	// Receivers with this 3D object receive nothing.
	EF3dObj *				pExcluded3dObj;
	// Its frame and projection describe the volume.
	EFCamera *				pCamera;
	u32						uiBlendingFunction;
	f32						fReachDistance;
};

class EFProjectorMgr_BC {
public:
	// A receiver record.
	struct _sObjectEntry {
		_sObjectEntry *		mpNext;
		EF3dObj *			mpo3dObj;
		EFGameObject *		mpoObject;
	};

							EFProjectorMgr_BC();
	virtual					~EFProjectorMgr_BC();
							EFProjectorMgr_BC( const EFProjectorMgr_BC & ) = delete;
	EFProjectorMgr_BC &		operator=( const EFProjectorMgr_BC & ) = delete;

	// Hooks around a receiver's life: before it is linked, after it is
	// unlinked.
	virtual void			InitReceiver( _sObjectEntry * entry ) = 0;
	virtual void			TermReceiver( _sObjectEntry * entry ) = 0;

	// A projector with the next handle and a frame of its own; null
	// without memory.
	EFProjector *			CreateProjector();
	EFProjector *			GetProjector( u32 handle ) const;
	// An unknown handle does nothing.
	void					DestroyProjector( u32 handle );
	u32						GetProjectorCount() const { return muiProjectorCount; }

	// 1 when recorded, 0 without memory.
	u32						AddReceiver( EFGameObject * object, EF3dObj * model );
	// Removes every record of the object: 1 when there was one.
	u32						RemoveReceiver( EFGameObject * object );
	const _sObjectEntry *	GetFirstReceiver() const { return mpReceivers; }

	// 0, or -1 when eight are held already.
	s32						AddOccurence( const _sProjectorOccurence * occurrence );
	u32						GetEntriesCount() const { return muiOccurenceCount; }
	const _sProjectorOccurence &	GetOccurence( u32 index ) const { return maOccurences[index]; }

	// Empties the occurrences and lets every projector add its own. The
	// camera index is not consulted.
	void					Begin( u32 camera );
	// Ends every projector.
	virtual void			End();

	// Deletes every projector and drops the receiver records left (their
	// owners are gone by then). The projector count stays.
	void					Terminate();
	// Deletes every projector: the host's graphics manager runs it before
	// the library goes down.
	void					DestroyAllProjectors();

	static u32				muiNextValidHandle;

protected:
	u32						muiProjectorCount;
	DTMap<u32, EFProjector *>	moProjectors;
	_sObjectEntry *			mpReceivers;
	_sProjectorOccurence	maOccurences[EF_PROJECTOR_MAX_OCCURENCES];
	u32						muiOccurenceCount;

private:
	void					RemoveAllReceivers();
};

#endif

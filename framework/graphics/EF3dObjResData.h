/*
===============================================================================

	The loaded part of a model resource: the library clump, the model's
	version word and the particle emitters stored with it.

	A record holds the resource id and the number of users (big-endian,
	as every record), then library data: the clump chunk, the version as
	a little-endian word and, from version 0x5406 on, a little-endian
	marker word followed, unless the marker is 0xFFFFFFFF, by the
	emitter container in its little-endian form. The text form names a
	file holding the library data after the two values.

	A record without a clump still loads (a resource without a clump); a
	missing version counts as 0. The load always reports success: the
	level goes on without the model.

===============================================================================
*/
#ifndef EF_3D_OBJ_RES_DATA_H
#define EF_3D_OBJ_RES_DATA_H

#include "framework/core/level/EFRessource.h"

class DTEmitterContainerDescriptor;
struct RpClump;
struct RwStream;

// Oldest version whose records carry emitters.
constexpr u32 EF_3D_OBJ_RES_EMITTER_VERSION	= 0x5406;
// Marker of a record without emitters.
constexpr u32 EF_3D_OBJ_RES_NO_EMITTERS		= 0xFFFFFFFF;
// Longest file name of the text form.
constexpr s32 EF_3D_OBJ_RES_NAME_MAX		= 2048;

class EF3dObjResData : public EFRessource {
public:
							EF3dObjResData();
	// Destroys the clump and the emitters.
	virtual					~EF3dObjResData();

	// Id and users, the library data through a bridge, registration.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	// True once the resource factory holds the resource.
	bool					IsOwnedElsewhere() const override;

	// The clump, version and emitters from a library stream; 0.
	s32						Load3dObj( RwStream * stream );

	RpClump *				GetClump() const { return mpClump; }

	RpClump *				mpClump;
	u32						muiVersion;
	DTEmitterContainerDescriptor *	mpResEmitters;

protected:
	// Bridges stream (a file of that name for the text form), loads and
	// registers under id for users.
	s32						LoadBridged( DTBasePersistStream & stream, const char * name, u32 id, u32 users );

	bool					mbRegistered;
};

#endif

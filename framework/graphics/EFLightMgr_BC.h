/*
===============================================================================

	Portable half of the light manager: every scene light in one list,
	newest first, found by id and counted by kind.

	Dynamic lights get the ids 0x12000000 | counter, the counter running
	from 1 to 65534 and starting again at 1 (a new id may then meet a live
	one); static lights keep the id their creator gives. Bit 31 of a
	dynamic light's type asks for the second group. With the light pool
	exhausted nothing is made: no id, counts and list unchanged.

===============================================================================
*/
#ifndef EF_LIGHT_MGR_BC_H
#define EF_LIGHT_MGR_BC_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTSimpleLinkList.h"

class EFGameObject;
class EFLight;

// The library's light types; bit 31 of a dynamic light's type asks for
// the second group.
enum LightType_e : u32 {
	LIGHT_TYPE_DIRECTIONAL	= 1,
	LIGHT_TYPE_AMBIENT		= 2,
	LIGHT_TYPE_POINT		= 128,
	LIGHT_TYPE_SPOT			= 129,
	LIGHT_TYPE_SPOT_SOFT	= 130,
};

// Id kind of the lights.
constexpr u32 EF_LIGHT_ID_BASE		= 0x12000000;
// What CreateDynamicLight gives when no light was made.
constexpr u32 EF_LIGHT_NO_ID		= 0xFFFFFFFF;
// The counter goes back to 1 when it reaches this.
constexpr u32 EF_LIGHT_COUNTER_WRAP	= 65535;

class EFLightMgr_BC {
public:
							EFLightMgr_BC();
	virtual					~EFLightMgr_BC();

	// The new light's id, EF_LIGHT_NO_ID when none was made.
	u32						CreateDynamicLight( EFGameObject* owner, LightType_e type );
	// The new light, or null.
	EFLight*				CreateStaticLight( u32 id, LightType_e type );
	// The first light of the list with that id, or null.
	EFLight*				GetLight( u32 id );
	// Unknown ids are ignored.
	void					DestroyLight( u32 id );
	// That light of the list (several may share an id); others are ignored.
	void					DestroyLight( EFLight* light );
	u32						GenerateUID();
	// Deletes every light, counter back to 1, pool chunks freed.
	void					Terminate();

	u16						mui16DynamicCount;
	u16						mui16StaticCount;
	u16						mui16SecondCount;
	DTSimpleLinkList<EFLight>	moLights;
	u32						mui32NextId;

private:
	EFLight*				Create( LightType_e type, u32 kind );
	// The count of that kind of light.
	u16&					CountOf( u32 kind );
};

#endif

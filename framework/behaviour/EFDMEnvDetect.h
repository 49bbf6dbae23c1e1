/*
===============================================================================

	Environment polygons for logic (post-collision): every pass with a
	stage hands the owner's logic callback (notification 25, delivered at
	once) the first polygons the stage gathered, up to a maximum: each
	one's plane, attributes, vertex count and pointers to its vertices,
	valid during the call. No polygons: count 0 and a null pointer.

	The record array is the module's; a SetParams replacing it frees the
	old one, or, when the callback itself calls SetParams during the
	notification, frees the array that was sent once the notification
	is over.

===============================================================================
*/
#ifndef EF_DM_ENV_DETECT_H
#define EF_DM_ENV_DETECT_H

#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysicModule.h"

class EFDMEnvDetect : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x4000001A;

	explicit				EFDMEnvDetect( EFPhysic * owner );
							~EFDMEnvDetect() override;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMEnvDetectParams: registers the callback and makes a new record
	// array; null does nothing.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	u32						mui32CallbackIndex;
	u32						mui32OwnerId;
	u32						mui32MaxPolygons;
	DMEnvDetectPolygon *	mpoPolygons;

private:
	// The array being sent while the notification runs, and whether a
	// SetParams replaced it meanwhile.
	DMEnvDetectPolygon *	mpoSending;
	bool					mbSentReplaced;
};

#endif

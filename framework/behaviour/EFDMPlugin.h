/*
===============================================================================

	Logic plug-in (pre- and post-collision): runs two of the owner
	object's logic callbacks inside its body's physics frame, one before
	collision (notification 18) and one after (notification 19), each
	with the frame step as its data. An index of -1 disables its hook.
	Registrations are made by SetParams with a record and never removed;
	a second record replaces them through the notification manager's
	one registration per sender. A body whose owner is not a game object
	registers nothing.

===============================================================================
*/
#ifndef EF_DM_PLUGIN_H
#define EF_DM_PLUGIN_H

#include "framework/physics/EFPhysicModule.h"

class EFNotificationMgr;

// The index that disables a hook.
constexpr u32 EF_DM_PLUGIN_NONE = 0xFFFFFFFF;

class EFDMPlugin : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000025;

	explicit				EFDMPlugin( EFPhysic * owner );

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMPluginParams: the two callback indices.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	u32						mui32PreIndex;
	u32						mui32PostIndex;
	u32						mui32ObjectId;
	EFNotificationMgr *		mpoNotificationMgr;
};

#endif

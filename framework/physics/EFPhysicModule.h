/*
===============================================================================

	Base of the behaviour modules attached to a physics body.

	The type word holds the phase bits (0x10000000 pre-collision,
	0x20000000 collision, 0x40000000 post-collision) and, below them, the
	type id by which the body sorts its modules. A new module is active
	(flags bit 0) with zero context mask, state and notify bits, and takes
	a handle from the physics manager's table (0 when the table is full);
	its destructor unlinks it from its body and gives the handle back.

	The virtual operations, in this order, are the binary interface that
	logic modules see: destructor, PreColUpdate, ColUpdate, PostColUpdate,
	SetParams, GetParams, DoAction, GetData, InitDM.

===============================================================================
*/
#ifndef EF_PHYSIC_MODULE_H
#define EF_PHYSIC_MODULE_H

#include "datatypes/base/DTTypes.h"

class EFCollisionStage;
class EFPhysic;
struct EFColDMData;
struct EFDynamicPhysic;

// Phase bits of the type word, and the type id below them.
constexpr u32 EF_DM_PHASE_PRE		= 0x10000000;
constexpr u32 EF_DM_PHASE_COL		= 0x20000000;
constexpr u32 EF_DM_PHASE_POST		= 0x40000000;
constexpr u32 EF_DM_PHASE_MASK		= 0x70000000;
// Flags: active, and run the phase once more.
constexpr u32 EF_DM_ACTIVE			= 0x1;
constexpr u32 EF_DM_ONCE_PRE		= 0x10;
constexpr u32 EF_DM_ONCE_COL		= 0x20;
constexpr u32 EF_DM_ONCE_POST		= 0x40;

class EFPhysicModule {
public:
							EFPhysicModule( u32 type, EFPhysic * owner );
	virtual					~EFPhysicModule();

							EFPhysicModule( const EFPhysicModule & ) = delete;
	EFPhysicModule &		operator=( const EFPhysicModule & ) = delete;

	// Non-zero keeps the module; 0 makes the body delete it.
	virtual u32				PreColUpdate( EFDynamicPhysic & record, f32 dt );
	virtual void			ColUpdate( EFCollisionStage * stage, EFColDMData & data, f32 dt );
	virtual void			PostColUpdate( EFCollisionStage * stage, f32 dt );
	// Null restores the defaults.
	virtual void			SetParams( void * params );
	virtual void			GetParams( void * params );
	virtual void			DoAction( u32 action, void * data );
	virtual void			GetData( void * data );
	virtual void			InitDM();

	// The type word without its phase bits.
	u32						GetTypeId() const { return mui32Type & ~EF_DM_PHASE_MASK; }

	EFPhysic *				mpoOwner;
	EFPhysicModule *		mpoNextAll;
	EFPhysicModule *		mpoNextPre;
	EFPhysicModule *		mpoNextCol;
	EFPhysicModule *		mpoNextPost;
	u32						mui32Type;
	u32						mui32ContextMask;
	u32						mui32State;
	u32						mui32StateChangeNotifyBits;
	u32						mui32Flags;
	u32						mui32Handle;
};

#endif

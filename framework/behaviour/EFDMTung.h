/*
===============================================================================

	Tongue (post-collision): shoots a tongue made of two bones of the
	owner's skeleton (base and tip, the tip a child of the base) toward a
	world target, catches what the tip's ray meets and pulls the tongue
	back with a bend. The base bone follows the root bone's world
	orientation every update. One exclusive state at a time: 1 ready, 2
	extending, 4 at full length, 8 retracting, 16 caught; changes that
	the notify bits name send notification 6, an object the tongue hits
	sends notification 3 (environment hits send none).

	Retraction: each update draws the tip to 5% of its distance from the
	base; once that is within 1.6 a countdown of 0.06 seconds runs that
	shrinks the base bone (and the tip with it) by countdown / start,
	after which the base is aligned again at full size and the tongue is
	ready.

	Without its root, base or tip bone the module does nothing.

===============================================================================
*/
#ifndef EF_DM_TUNG_H
#define EF_DM_TUNG_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

struct RwFrame;
struct RwMatrix;
struct DMTungParams;

enum EFDMTungState_e : u32 {
	EF_DM_TUNG_READY		= 0x01,
	EF_DM_TUNG_EXTENDING	= 0x02,
	EF_DM_TUNG_FULL			= 0x04,
	EF_DM_TUNG_RETRACTING	= 0x08,
	EF_DM_TUNG_CAUGHT		= 0x10,
};

// The tag a tongue hit reports as its own.
constexpr u32 EF_DM_TUNG_TAG = 102;

class EFDMTung : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x40000024;

	explicit				EFDMTung( EFPhysic * owner );
							~EFDMTung() override;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMTungParams: words 0-7, 9, 11 and 12-14; finds the bones.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	void					SetExclusiveState( u32 state );
	u32						GetExclusiveState() const { return mui32State; }
	// b's rows become a's world rows in b's parent's axes; b keeps its
	// position.
	static void				AlignLocalWithGlobal( RwFrame * a, RwFrame * b );
	// Places the tip bone at the world point.
	void					UpdateTipLocalPosition( const DTVector3d & point );
	// Bends the tip about the base's forward axis crossed with the
	// tongue's direction, more the longer the tongue.
	void					Bend_Symmetric();

	u32						mui32BaseBone;
	u32						mui32TipBone;
	f32						mfFullLength;
	f32						mfStartLength;
	f32						mfEndDistance;
	f32						mfExtendSpeed;
	f32						mfRetractSpeed;
	f32						mfCarried;
	f32						mfBendFactor;
	u32						mui32Shoot;
	DTVector3d				moTarget;
	f32						mafSpare[6];
	f32						mfCountdownStart;
	f32						mfLength;
	f32						mfCountdown;
	RwFrame *				mpoRoot;
	RwFrame *				mpoBase;
	RwFrame *				mpoTip;
	RwMatrix *				mpoBaseLTM;
	RwMatrix *				mpoTipMatrix;
	RwMatrix *				mpoWork;
	DTVector3d				moTipPosition;
	DTVector3d				moBendAxis;

private:
	void					Extend( f32 dt );
	void					Retract( f32 dt );
	// The ray from the base over displacement; a hit on an object sends
	// notification 3 with the tongue's direction u. The result and the
	// hit point.
	u32						CastRay( const DTVector3d & displacement, const DTVector3d & u, DTVector3d * hit ) const;
	DTVector3d				BasePosition() const;
};

// The record the constructor passes through SetParams.
DMTungParams				DMTungDefaults();

#endif

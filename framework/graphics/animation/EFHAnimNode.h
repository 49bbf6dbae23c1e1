/*
===============================================================================

	Animation node that plays a skeletal animation on a 3D object
	("EF_ANIM_NODE", class 74).

	Each frame the node evaluates its block's channel curves at its time
	into a transform list: the 3D object's own joint array when it can
	lock it (written by joint), else work memory (one record per channel
	set). It also plays the resource's collision-primitive track into a
	chain of records in work memory, and fires the timed commands its
	time passed: sounds through the owner's sound manager, everything else
	as an NO_ANIM_CB notification carrying a 12-byte record {index, type,
	parameter}. Commands exactly at the current time fire; on a wrap the
	commands up to the end fire first, then the last-frame notification,
	then those from the start.

	Stored indices are never trusted: a set whose joint is not one of the
	object's, a command naming a primitive the body lacks or an attribute
	past the eleventh, and a sound parameter past the references are
	skipped.

===============================================================================
*/
#ifndef EF_HANIM_NODE_H
#define EF_HANIM_NODE_H

#include "datatypes/node/DTAttrib.h"
#include "framework/audio/EFNewSoundMgr.h"
#include "framework/graphics/animation/EFAnimNode.h"

class DTTransfo;
class EFHAnimRes;
struct EFCPAnimCmdPair;

constexpr s32 EF_HANIM_NODE_CLASS_ID	= 74;

// Channel targets of a set.
constexpr u32 EF_HANIM_TARGET_VISIBILITY	= 9;
// Set flag: the joint compensates its parent's scaling.
constexpr u32 EF_HANIM_SET_SCALE_COMPENSATE	= 0x1;

// The record a NO_ANIM_CB notification carries.
struct EFAnimCBData {
	u32						muiIndex;
	u32						muiType;
	u32						muiParameter;
};

class EFHAnimNode : public EFAnimNode {
public:
							EFHAnimNode();
	// Frees the sound references.
	virtual					~EFHAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;
	bool					Initialize( DTCreationParameters * params ) override;
	void					Play( u32 flags, f32 time ) override;
	f32						Update( f32 dt, DTWorkMemory & workMemory ) override;
	bool					Stop() override;
	void					SetTime( f32 time ) override;

	// The next command is the first not before the current time.
	void					SetCurCBCmd();
	// The transform output (the object's array or work memory) and an
	// empty collision-primitive output.
	void					AssignDataBlock( DTWorkMemory & workMemory );
	// Evaluates every channel set into the transform output.
	void					UpdateHAnim();
	// Fires the commands the time passed.
	void					UpdateAnimCallback();
	// Plays the collision-primitive track into the primitive output.
	void					UpdateAnimPrimColl( DTWorkMemory & workMemory );
	// The record of the command's kind for primitive, created (and linked
	// in order) when absent; null when work memory is exhausted or the
	// primitive has no kind.
	EFAnimCollPrim *		GetCollPrimData( u32 primitive, u32 command, DTWorkMemory & workMemory );

	u32						muiCurCBCmd;
	EFNewSoundMgr::SoundReference **	mppSoundRefs;
	u32						muiNbSoundRefs;

private:
	const EFHAnimRes *		GetHAnimRes() const;
	// Writes the inverse parent scaling of transfo's joint; false when the
	// parent is not found.
	bool					ScaleCompensate( DTTransfo & transfo, u32 written );
	void					SetVisible( bool visible );
	// One interpolated command at the node's time.
	void					PlayInterpolated( const EFCPAnimCmdPair & command, bool wrapped, DTWorkMemory & workMemory );

	DTAttrib				moTransfo;
	DTAttrib				moCollPrim;
};

#endif

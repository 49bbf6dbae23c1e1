/*
===============================================================================

	An instance with a transform frame and a place in the scene's
	parent/child tree.

	The frame is either created here (muiPosFlags 0x1: deleted with the
	instance) or adopted from elsewhere (a clump's frame, say), in which
	case it outlives the instance. Children are linked through mpChild and
	mpNext, newest first; the class-wide muiNbConnection counts the links
	that exist.

	Attaching and detaching move the frames in the library hierarchy and
	may tell the logic of the objects involved (messages 0x10000001 to
	0x10000004, sent to the owner game objects). Attaching refuses what
	would make the tree or the frame hierarchy cyclic, and frameless
	instances: nothing changes then.

	Virtual operations after those of EFInstance, in slot order: AddChild,
	AddChildFrame, LeaveParent, RemoveAllChildren, TranslateNotify.

===============================================================================
*/
#ifndef EF_POS_DATA_H
#define EF_POS_DATA_H

#include "framework/core/world/EFInstance.h"

class DTFrame;

// muiPosFlags.
constexpr u32 EF_POS_OWNS_FRAME			= 0x1;
constexpr u32 EF_POS_ATTACH_FLAG		= 0x2;

// Attach options.
constexpr u32 EF_ATTACH_SNAP			= 0x1;
constexpr u32 EF_ATTACH_TELL_PARENT		= 0x2;
constexpr u32 EF_ATTACH_TELL_CHILD		= 0x4;
constexpr u32 EF_ATTACH_SET_POS_FLAG	= 0x8;
constexpr u32 EF_ATTACH_INHERIT_CLIP	= 0x10;

// Detach options.
constexpr u32 EF_DETACH_RESET			= 0x1;
constexpr u32 EF_DETACH_TELL_PARENT		= 0x2;
constexpr u32 EF_DETACH_TELL_CHILD		= 0x4;

// Logic messages of the tree; the parameter is the id of the other party.
constexpr u32 EF_MSG_CHILD_ATTACHED		= 0x10000001;
constexpr u32 EF_MSG_ATTACHED_TO_PARENT	= 0x10000002;
constexpr u32 EF_MSG_CHILD_LEFT			= 0x10000003;
constexpr u32 EF_MSG_LEFT_PARENT		= 0x10000004;

class EFPosData : public EFInstance {
public:
							EFPosData();
	// DestroyFrame.
	virtual					~EFPosData();

	// Attaches child under this instance's frame.
	virtual void			AddChild( EFPosData * child, u32 options );
	// Attaches child with its frame under frame (a bone of this instance,
	// for example) rather than under this instance's own frame.
	virtual void			AddChildFrame( DTFrame * frame, EFPosData * child, u32 options );
	// Leaves the parent; nothing without one.
	virtual void			LeaveParent( u32 options );
	// Detaches every child with the options of LeaveParent; messages go
	// child first for each child.
	virtual void			RemoveAllChildren( u32 options );
	virtual void			TranslateNotify();

	// The frame there is; else adopts frame, or creates one when it is
	// null. Null only when a frame had to be created and could not be.
	DTFrame *				CreateFrame( DTFrame * frame );
	// Leaves the tree without messages, keeping world transforms, then
	// deletes an owned frame.
	void					DestroyFrame();
	DTFrame *				GetFrame() const { return mpFrame; }

	DTFrame *				mpFrame;
	u32						muiPosFlags;
	EFPosData *				mpParent;
	EFPosData *				mpNext;
	EFPosData *				mpChild;

	static u32				muiNbConnection;

private:
	void					Attach( DTFrame * target, EFPosData * child, u32 options );
	// Whether child may go under this instance with its frame under target.
	bool					CanAttach( const DTFrame * target, const EFPosData * child ) const;
	// Takes the frame off its parent frame: to identity, or keeping its
	// world transform. Nothing without a frame.
	static void				ReleaseFrame( DTFrame * frame, u32 options );
	// Sends message to the owner of to; nothing without an owner.
	static void				SendTreeMessage( const EFPosData * to, u32 message, u32 parameter );
};

#endif

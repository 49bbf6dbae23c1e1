/*
===============================================================================

	Skeletal animation resource ("EF_HANIM_RES", class 79): the animation
	block, the collision-primitive track played beside it and the table
	of timed commands (sounds and notifications) every node playing the
	animation fires.

	The stored form follows the resource's two words: the block, the
	track (an EFCollisionPrimAnim loading itself), then the command
	table: a big-endian header {u32 not read, u32 count, u32 record size}
	and count records of {f32 time, u32 type, u32 parameter}, sorted by
	time, decoded here into native records. A table whose records are
	not 12 bytes keeps no commands (its bytes are skipped); a table that
	does not fit in what the stream still holds gives -5 with nothing
	registered. The text form names a file (at most 2048 characters)
	holding the same.

===============================================================================
*/
#ifndef EF_HANIM_RES_H
#define EF_HANIM_RES_H

#include "framework/graphics/animation/EFAnimRes.h"

class EFCollisionPrimAnim;

constexpr s32 EF_HANIM_RES_CLASS_ID		= 79;
// Bytes of a stored timed command.
constexpr u32 EF_HANIM_COMMAND_BYTES	= 12;
// Command type of a sound; every other type is a notification.
constexpr u32 EF_HANIM_COMMAND_SOUND	= 0;

struct EFHAnimCommand {
	f32						mfTime;
	u32						muiType;
	// A sound's index in the node's resolved references.
	u32						muiParameter;
};

class EFHAnimRes : public EFAnimRes {
public:
							EFHAnimRes();
	// Frees the track and the commands.
	virtual					~EFHAnimRes();

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// The block, the track, the command table; 0 or the first failure.
	s32						LoadBody( DTBasePersistStream & stream ) override;
	// A new track loaded from the stream.
	s32						LoadCollPrim( DTBasePersistStream & stream );
	// The command table.
	s32						LoadCallback( DTBasePersistStream & stream );

	// The commands kept (0 without a table).
	u32						GetCommandCount() const { return mpCommands != nullptr ? muiNbCommands : 0; }

	EFCollisionPrimAnim *	mpCollPrimAnim;
	u32						muiCommandHeader;
	u32						muiNbCommands;
	u32						muiCommandSize;
	EFHAnimCommand *		mpCommands;
};

#endif

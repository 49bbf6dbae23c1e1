/*
===============================================================================

	Abstract movie player: Play and Update, in this slot order.

===============================================================================
*/
#ifndef EF_VIDEO_PLAYER_BC_H
#define EF_VIDEO_PLAYER_BC_H

class EFVideoPlayer_BC {
public:
	virtual					~EFVideoPlayer_BC() {}

	virtual void			Play() = 0;
	virtual void			Update() = 0;
};

#endif

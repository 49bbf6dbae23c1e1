/*
	Seeded random sequences of what logic can ask of two objects' animation
	managers (two to four groups each): plays with every transition flag,
	blends by id and by blend id with and without parameters, stops, stop
	all, parameter changes, tree building, and frame updates with steps
	from 0 past every time to live under each clip mode and the pause flag.
	After every step the trees must hold together: consistent links, no
	node twice, one child under a frozen-pose blend and two under the
	others, stopped nodes out of the trees, the object's free transform
	half held by at most one owner and free when none holds it, a lone
	skeletal node posing its object, and notifications that match the
	state changes they report.
*/
#include "framework/graphics/animation/AnimTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

using namespace animtest;

constexpr u32 SEQUENCES = 2000;
constexpr u32 STEPS = 50;
constexpr u32 JOINTS = 4;
constexpr u32 NODES = 5;

struct World {
	explicit World( std::mt19937& random ) {
		for ( u32 k = 0; k < 2; k++ ) {
			actors[k] = std::make_unique<Actor>( 0x2A000001 + k, JOINTS );
			EFAnimationMgr& manager = actors[k]->Manager();
			manager.muiBaseIndex = 10;
			manager.CreateTable( NODES + 1 );
			const u32 groups = 2 + random() % 3;
			for ( u32 i = 0; i < NODES; i++ ) {
				std::vector<u32> joints;
				for ( u32 j = 0; j < JOINTS; j++ ) {
					if ( random() % 3 != 0 ) {
						joints.push_back( j );
					}
				}
				if ( joints.empty() ) {
					joints.push_back( random() % JOINTS );
				}
				const f32 duration = 0.25f * static_cast<f32>( 1 + random() % 8 );
				const u8 kind = random() % 4 == 0 ? EF_ANIM_BLEND_ADDITIVE : 0;
				ScriptedHAnimNode* const node = new ScriptedHAnimNode( actors[k]->object, actors[k]->model,
					MakeRes( duration, static_cast<u8>( random() % groups ), kind ), joints, 1 + i + 8 * k );
				node->muiIndex = i;
				manager.AddAnim( node, i );
				nodes[k].push_back( node );
			}
			// One non-skeletal node whose stop unlinks it.
			UnlinkingNode* const morph = new UnlinkingNode( actors[k]->object, actors[k]->model, 0.5f );
			morph->muiIndex = NODES;
			manager.AddAnim( morph, NODES );
			nodes[k].push_back( morph );
			recorder.Listen( 0x2A000001 + k, { 0, 1, 2, 3, 4, 5, 0x2A000001 + k } );
		}
	}

	NotificationRecorder			recorder;
	std::unique_ptr<Actor>			actors[2];
	std::vector<EFAnimNode*>		nodes[2];
};

// Walks a tree, checking links and collecting nodes.
void Walk( const DTNode* parent, std::set<const DTNode*>& seen, std::ostringstream& errors ) {
	u32 children = 0;
	for ( const DTNode* child = parent->mpChild; child != nullptr; child = child->mpNext ) {
		if ( !seen.insert( child ).second ) {
			errors << "node reached twice; ";
			return;
		}
		if ( child->mpParent != parent ) {
			errors << "child with another parent; ";
		}
		children++;
		Walk( child, seen, errors );
	}
	const DTOperator* const op = static_cast<const DTOperator*>( parent );
	if ( op->meType == OP_Blend ) {
		const EFAnimBlendNode* const blend = static_cast<const EFAnimBlendNode*>( parent );
		const u32 want = blend->muiBlendMode == EF_BLEND_FROM_POSE ? 1 : 2;
		if ( children != want ) {
			errors << "blend of mode " << blend->muiBlendMode << " with " << children << " children; ";
		}
	}
}

// The tree as text: blends as B<mode>(...), nodes by index and state.
void Dump( const DTNode* node, std::ostringstream& out ) {
	for ( ; node != nullptr; node = node->mpNext ) {
		const EFAnimNode* const anim = static_cast<const EFAnimNode*>( node );
		if ( anim->meType == OP_Blend ) {
			out << "B" << static_cast<const EFAnimBlendNode*>( anim )->muiBlendMode << "(";
			Dump( node->mpChild, out );
			out << ")";
		} else {
			out << anim->muiIndex << "g" << anim->muiGroup << "s" << std::hex << anim->muiAnimState << std::dec;
		}
		out << " ";
	}
}

std::string CheckInvariants( World& world ) {
	std::ostringstream errors;
	for ( u32 k = 0; k < 2; k++ ) {
		Actor& actor = *world.actors[k];
		EFAnimationMgr& manager = actor.Manager();
		std::set<const DTNode*> seen;
		Walk( &manager.mUpdateTree, seen, errors );
		u32 holders = 0;
		for ( const DTNode* node : seen ) {
			const EFAnimNode* const anim = static_cast<const EFAnimNode*>( node );
			const DTAttrib* const out = anim->GetOutput( AT_TRANSFO );
			if ( out != nullptr && out->mpDataBlock == actor.model.mppTransfo[1] ) {
				holders++;
			}
			if ( anim->meType == OP_Blend ) {
				const EFAnimBlendNode* const blend = static_cast<const EFAnimBlendNode*>( anim );
				if ( blend->mFrozenPose.mpDataBlock == actor.model.mppTransfo[1] ) {
					holders++;
				}
			}
		}
		for ( EFAnimNode* node : world.nodes[k] ) {
			const bool inTree = seen.count( node ) != 0;
			if ( node->muiAnimState == AS_STOPPED && inTree ) {
				errors << "stopped node " << node->muiIndex << " in the tree; ";
			}
			if ( node->muiAnimState != AS_STOPPED && !inTree ) {
				errors << "running node " << node->muiIndex << " out of the tree; ";
			}
			const DTAttrib* const out = node->GetOutput( AT_TRANSFO );
			if ( !inTree && out != nullptr && out->mpDataBlock == actor.model.mppTransfo[1] ) {
				holders++;
			}
		}
		const bool free = ( actor.model.muiFreeFlag & EF_3D_OBJ_TRANSFO_FREE ) != 0;
		if ( holders > 1 || free != ( holders == 0 ) ) {
			errors << "free half: " << holders << " holders, free " << free << "; ";
		}
	}
	return errors.str();
}

// A lone skeletal node under the root poses its object after a frame.
std::string CheckLonePose( World& world, const u32 k ) {
	std::ostringstream errors;
	{
		Actor& actor = *world.actors[k];
		const EFAnimNode* const top = actor.Manager().FirstChild();
		if ( top == nullptr || top->mpNext != nullptr || top->meType != OP_HAnim ) {
			return "";
		}
		const ScriptedHAnimNode* const node = static_cast<const ScriptedHAnimNode*>( top );
		if ( ( node->muiAnimState & AS_AT_END ) != 0 ) {
			return "";
		}
		for ( const u32 joint : node->mJoints ) {
			DTTransfo want;
			ScriptedPose( node->muiSeed, joint, want );
			const DTTransfo& got = actor.model.mppTransfo[0][joint];
			if ( got.mTranslation.x != want.mTranslation.x || got.mEulerRotation.x != want.mEulerRotation.x ) {
				errors << "object " << k << " joint " << joint << " not posed by node " << node->muiIndex << "; ";
			}
		}
	}
	return errors.str();
}

TEST( EFAnimRandomSequence, TreesHoldTogetherUnderEverySequenceLogicCanAsk ) {
	const f32 steps[] = { 0.0f, 0.016f, 0.05f, 0.1f, 0.3f, 0.75f, 2.5f };
	const u32 flagChoices[] = { 0, AS_CLAMP, AS_LOOP, AS_LOOP | AS_HOLD, AS_LOOP | AS_BLEND_FROM_POSE,
								AS_LOOP | AS_CROSSFADE, AS_CLAMP | AS_CROSSFADE, AS_LOOP | AS_HOLD | AS_CROSSFADE };
	// ANIM_SEQUENCES runs more sequences locally.
	const char* const more = std::getenv( "ANIM_SEQUENCES" );
	const u32 sequences = more != nullptr ? static_cast<u32>( std::strtoul( more, nullptr, 10 ) ) : SEQUENCES;
	for ( u32 seed = 1; seed <= sequences; seed++ ) {
		std::mt19937 random( seed );
		World world( random );
		std::string failure;
		for ( u32 step = 0; step < STEPS && failure.empty(); step++ ) {
			const u32 k = random() % 2;
			EFAnimationMgr& manager = world.actors[k]->Manager();
			const u32 anim = 10 + random() % ( NODES + 2 );	// one id past the table
			const u32 flags = flagChoices[random() % 8];
			const f32 time = 0.1f * static_cast<f32>( random() % 6 );
			EFBlendParams params = { 0xBB000000u + static_cast<u32>( random() % 3 ), 0.05f * static_cast<f32>( random() % 5 ),
									 0.25f * static_cast<f32>( random() % 5 ), 0.1f * static_cast<f32>( random() % 4 ), -1.0f };
			std::map<EFAnimNode*, bool> runningBefore;
			for ( EFAnimNode* node : world.nodes[k] ) {
				runningBefore[node] = node->muiAnimState != AS_STOPPED;
			}
			std::ostringstream before;
			Dump( manager.mUpdateTree.mpChild, before );
			const u32 op = random() % 12;
			switch ( op ) {
			case 0:
			case 1:
				manager.Play( anim, flags, time );
				break;
			case 2:
				manager.PlayBlend( anim, flags, EF_ANIM_NO_TARGET, time, random() % 2 ? &params : nullptr );
				break;
			case 3:
				manager.PlayBlend( anim, flags, random() % 2 ? 10 + random() % NODES : params.uiBlendNodeID | 0xBB000000u,
								   time, random() % 2 ? &params : nullptr );
				break;
			case 4:
				manager.Stop( anim );
				break;
			case 5:
				if ( random() % 4 == 0 ) {
					manager.StopAll();
				}
				break;
			case 6:
				manager.ChangeBlendParam( params );
				break;
			case 7:
				if ( ( manager.muiFlags & EF_ANIM_MGR_BUILDING ) != 0 ) {
					manager.EndTree();
				} else {
					manager.BeginTree();
				}
				break;
			default: {
				const u32 clip = random() % 6;
				manager.muiClipMode = clip == 0 ? EF_ANIM_CLIP_ALL : clip == 1 ? EF_ANIM_CLIP_HIERARCHY : EF_ANIM_CLIP_NONE;
				manager.muiFlags = ( manager.muiFlags & ~EF_ANIM_MGR_PAUSED ) | ( random() % 8 == 0 ? EF_ANIM_MGR_PAUSED : 0 );
				manager.mbSendPostUpdateNotif = random() % 2;
				manager.Update( steps[random() % 7] );
				break;
			}
			}
			failure = CheckInvariants( world );
			if ( failure.empty() && op >= 8 && manager.muiClipMode == EF_ANIM_CLIP_NONE &&
				 ( manager.muiFlags & EF_ANIM_MGR_PAUSED ) == 0 ) {
				failure = CheckLonePose( world, k );
			}
			// Every node that went from running to stopped told its owner,
			// and every stop or last-frame notification carries its sender.
			const std::vector<Heard> heard = world.recorder.Flush();
			for ( EFAnimNode* node : world.nodes[k] ) {
				if ( runningBefore[node] && node->muiAnimState == AS_STOPPED ) {
					bool told = false;
					for ( const Heard& h : heard ) {
						told = told || ( h.type == NO_ANIMATION_STOP && h.sender == node->muiIndex && h.target == 0x2A000001 + k );
					}
					if ( !told ) {
						failure += "a stop went untold; ";
					}
				}
			}
			for ( const Heard& h : heard ) {
				if ( ( h.type == NO_ANIMATION_STOP || h.type == NO_ANIMATION_LAST_FRAME ) && h.data != h.sender ) {
					failure += "notification data is not the node's index; ";
				}
				if ( h.type == NO_ANIMATION_LAST_FRAME && op < 8 && op != 7 ) {
					failure += "a last frame outside a frame update; ";
				}
			}
			if ( !failure.empty() ) {
				std::ostringstream after;
				Dump( manager.mUpdateTree.mpChild, after );
				failure = "step " + std::to_string( step ) + " op " + std::to_string( op ) + " anim " + std::to_string( anim ) +
						  " flags " + std::to_string( flags ) + ": " + failure + "\n  before: " + before.str() +
						  "\n  after: " + after.str();
			}
		}
		ASSERT_TRUE( failure.empty() ) << "seed " << seed << ": " << failure;
	}
}

}

/*
	Seeded random sequences of what logic can ask of two objects' animation
	managers (two to four groups each): plays with every transition flag,
	blends by id and by blend id with and without parameters, stops, stop
	all, parameter changes, tree building, and frame updates with steps
	from 0 past every time to live under each clip mode and the pause flag.
	Sequences run over the scripted skeletal node and over the engine's
	node evaluating stored curves of the same poses.
	After every step the engine must match the reference model exactly:
	tree shape, every node's state and time, every blend's mode, id, group,
	times and weights, the full notification log in order, and the
	object's joints wherever the model knows them. The trees must also
	hold together: consistent links, no node twice, one child under a
	frozen-pose blend and two under the others, stopped nodes out of the
	trees, and the object's free transform half held by at most one owner
	and free when none holds it. ANIM_SEQUENCES runs more sequences,
	ANIM_TRACE=<seed> prints that sequence's trees step by step.
*/
#include "framework/graphics/animation/AnimReferenceModel.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

using namespace animtest;

constexpr u32 SEQUENCES = 2000;
constexpr u32 STORED_SEQUENCES = 500;
constexpr u32 STEPS = 50;
constexpr u32 JOINTS = 4;
constexpr u32 NODES = 5;

struct World {
	World( std::mt19937& random, const SkeletalKind kind ) {
		for ( u32 k = 0; k < 2; k++ ) {
			actors[k] = std::make_unique<Actor>( 0x2A000001 + k, JOINTS );
			models[k] = std::make_unique<ModelManager>( 0x2A000001 + k, JOINTS, expected );
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
				const u8 blendKind = random() % 4 == 0 ? EF_ANIM_BLEND_ADDITIVE : 0;
				const u8 group = static_cast<u8>( random() % groups );
				EFAnimNode* const node =
					MakeSkeletal( kind, actors[k]->object, actors[k]->model, duration, group, blendKind, joints, 1 + i + 8 * k );
				models[k]->AddSkeletal( i, joints, 1 + i + 8 * k, duration, group, blendKind == EF_ANIM_BLEND_ADDITIVE );
				node->muiIndex = i;
				manager.AddAnim( node, i );
				nodes[k].push_back( node );
			}
			// One non-skeletal node whose stop unlinks it.
			UnlinkingNode* const morph = new UnlinkingNode( actors[k]->object, actors[k]->model, 0.5f );
			morph->muiIndex = NODES;
			manager.AddAnim( morph, NODES );
			models[k]->AddMorph( NODES, 0.5f );
			nodes[k].push_back( morph );
			recorder.Listen( 0x2A000001 + k, { 0, 1, 2, 3, 4, 5, 0x2A000001 + k } );
		}
	}

	NotificationRecorder			recorder;
	std::vector<Heard>				expected;
	std::unique_ptr<Actor>			actors[2];
	std::unique_ptr<ModelManager>	models[2];
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

// One node's state as text; floats exact (hex).
std::string NodeText( const ModelNode& n ) {
	char text[320];
	if ( n.kind == ModelNode::BLEND ) {
		std::snprintf( text, sizeof( text ),
					   "B%u[uid %x g %x s %x ttl %a w %a e %a in %a out %a new %a change %a add %u time %a sound %a]", n.mode, n.uid,
					   n.group, n.state, n.ttl, n.weight, n.elapsed, n.timeIn, n.timeOut, n.newWeight, n.changeTime,
					   n.additive ? 1u : 0u, n.blendTime, n.sound );
	} else {
		std::snprintf( text, sizeof( text ), "%u[s %x t %a]", n.index, n.state, n.time );
	}
	return text;
}

// A tree as text, the model's or a copy of the engine's.
void Dump( const ModelNode& parent, std::ostringstream& out ) {
	for ( const ModelNode* n : parent.kids ) {
		out << NodeText( *n );
		if ( n->kind == ModelNode::BLEND ) {
			out << "(";
			Dump( *n, out );
			out << ")";
		}
		out << " ";
	}
}

// The engine's node (and subtree) in the model's terms.
ModelNode Copy( const EFAnimNode& a, std::vector<std::unique_ptr<ModelNode>>& store ) {
	ModelNode n;
	n.kind = a.meType == OP_Blend ? ModelNode::BLEND : ModelNode::SKELETAL;
	n.index = a.muiIndex;
	n.state = a.muiAnimState;
	n.time = a.mfCurrentTime;
	if ( a.meType == OP_Blend ) {
		const EFAnimBlendNode& b = static_cast<const EFAnimBlendNode&>( a );
		n.mode = b.muiBlendMode;
		n.uid = b.muiUID;
		n.group = b.muiGroup;
		n.ttl = b.mfTimeToLive;
		n.weight = b.mfWeight;
		n.elapsed = b.mfElapsed;
		n.timeIn = b.mfTimeIn;
		n.timeOut = b.mfTimeOut;
		n.newWeight = b.mfNewWeight;
		n.changeTime = b.mfChangeTime;
		n.additive = b.mbAdditive != 0;
		n.blendTime = b.mfBlendTime;
		n.sound = b.mfSoundCBLimit;
	}
	for ( const DTNode* child = a.mpChild; child != nullptr; child = child->mpNext ) {
		store.push_back( std::make_unique<ModelNode>( Copy( *static_cast<const EFAnimNode*>( child ), store ) ) );
		n.kids.push_back( store.back().get() );
	}
	return n;
}

// The tree, then every node of the table.
std::string EngineText( World& world, const u32 k ) {
	std::vector<std::unique_ptr<ModelNode>> store;
	std::ostringstream out;
	Dump( Copy( world.actors[k]->Manager().mUpdateTree, store ), out );
	out << "| ";
	for ( const EFAnimNode* a : world.nodes[k] ) {
		out << NodeText( Copy( *a, store ) ) << " ";
	}
	return out.str();
}
std::string ModelText( World& world, const u32 k ) {
	std::ostringstream out;
	Dump( world.models[k]->Root(), out );
	out << "| ";
	for ( u32 i = 0; i <= NODES; i++ ) {
		out << NodeText( world.models[k]->Node( i ) ) << " ";
	}
	return out.str();
}

// The object's joints against the model's wherever it knows them.
std::string ComparePose( World& world, const u32 k ) {
	std::ostringstream errors;
	const ModelPose& want = world.models[k]->ObjectPose();
	const DTTransfo* const got = world.actors[k]->model.mppTransfo[0];
	const auto rotation = []( const DTTransfo& t ) {
		DTQuaternion q = t.mRotation;
		if ( ( t.muiState & EF_TRANSFO_EULER ) != 0 ) {
			q.EulerToQuatf( t.mEulerRotation );
		}
		return q;
	};
	const auto near = []( const DTVector3d& a, const DTVector3d& b ) { return ( a - b ).LengthSquare() < 1e-8f; };
	for ( u32 j = 0; j < JOINTS; j++ ) {
		if ( !want[j] ) {
			continue;
		}
		const DTQuaternion qa = rotation( got[j] );
		const DTQuaternion qb = rotation( *want[j] );
		// The same rotation: unit directions equal up to sign.
		const f32 dot = ( qa.x * qb.x + qa.y * qb.y + qa.z * qb.z + qa.mfScalaire * qb.mfScalaire ) /
						std::sqrt( ( qa.LengthSquare() + qa.mfScalaire * qa.mfScalaire ) * ( qb.LengthSquare() + qb.mfScalaire * qb.mfScalaire ) );
		if ( !near( got[j].mTranslation, want[j]->mTranslation ) || !near( got[j].mScaling, want[j]->mScaling ) ||
			 std::fabs( std::fabs( dot ) - 1.0f ) > 1e-5f ) {
			char text[400];
			std::snprintf( text, sizeof( text ),
						   "joint %u: translation (%g %g %g) want (%g %g %g), scaling (%g %g %g) want (%g %g %g), "
						   "rotation (%g %g %g %g) want (%g %g %g %g); ",
						   j, got[j].mTranslation.x, got[j].mTranslation.y, got[j].mTranslation.z, want[j]->mTranslation.x,
						   want[j]->mTranslation.y, want[j]->mTranslation.z, got[j].mScaling.x, got[j].mScaling.y, got[j].mScaling.z,
						   want[j]->mScaling.x, want[j]->mScaling.y, want[j]->mScaling.z, qa.x, qa.y, qa.z, qa.mfScalaire, qb.x, qb.y,
						   qb.z, qb.mfScalaire );
			errors << text;
		}
	}
	return errors.str();
}

std::string Log( const std::vector<Heard>& heard ) {
	std::ostringstream out;
	for ( const Heard& h : heard ) {
		out << h.type << ":" << h.sender << ":" << h.data << " ";
	}
	return out.str();
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

class EFAnimRandomSequence : public ::testing::TestWithParam<SkeletalKind> {};

TEST_P( EFAnimRandomSequence, EveryStepOfEverySequenceMatchesTheReferenceModel ) {
	const f32 steps[] = { 0.0f, 0.016f, 0.05f, 0.1f, 0.3f, 0.75f, 2.5f };
	const u32 flagChoices[] = { 0, AS_CLAMP, AS_LOOP, AS_LOOP | AS_HOLD, AS_LOOP | AS_BLEND_FROM_POSE,
								AS_LOOP | AS_CROSSFADE, AS_CLAMP | AS_CROSSFADE, AS_LOOP | AS_HOLD | AS_CROSSFADE };
	// ANIM_SEQUENCES runs more sequences locally.
	const char* const more = std::getenv( "ANIM_SEQUENCES" );
	const char* const trace = std::getenv( "ANIM_TRACE" );
	// The engine's node evaluates nine curves per joint: fewer sequences.
	const u32 sequences = more != nullptr ? static_cast<u32>( std::strtoul( more, nullptr, 10 ) )
						: GetParam() == SkeletalKind::Scripted ? SEQUENCES : STORED_SEQUENCES;
	for ( u32 seed = 1; seed <= sequences; seed++ ) {
		std::mt19937 random( seed );
		World world( random, GetParam() );
		std::string failure;
		for ( u32 step = 0; step < STEPS && failure.empty(); step++ ) {
			const u32 k = random() % 2;
			EFAnimationMgr& manager = world.actors[k]->Manager();
			const u32 anim = 10 + random() % ( NODES + 2 );	// one id past the table
			const u32 flags = flagChoices[random() % 8];
			const f32 time = 0.1f * static_cast<f32>( random() % 6 );
			const u32 uid = random() % 4 == 0 ? EF_BLEND_DEFAULT_UID : 0xBB000000u + static_cast<u32>( random() % 3 );
			EFBlendParams params = { uid, 0.05f * static_cast<f32>( random() % 5 ), 0.25f * static_cast<f32>( random() % 5 ),
									 0.1f * static_cast<f32>( random() % 4 ), random() % 2 ? -1.0f : 0.5f };
			ModelManager& model = *world.models[k];
			const std::string before = EngineText( world, k );
			world.expected.clear();
			const u32 op = random() % 12;
			const bool withParams = random() % 2;
			EFBlendParams* const given = withParams ? &params : nullptr;
			switch ( op ) {
			case 0:
			case 1:
				manager.Play( anim, flags, time );
				model.Play( anim, flags, time );
				break;
			case 2:
				manager.PlayBlend( anim, flags, EF_ANIM_NO_TARGET, time, given );
				model.PlayBlend( anim, flags, EF_ANIM_NO_TARGET, time, given );
				break;
			case 3: {
				const u32 target = random() % 2 ? 10 + random() % NODES : params.uiBlendNodeID | 0xBB000000u;
				manager.PlayBlend( anim, flags, target, time, given );
				model.PlayBlend( anim, flags, target, time, given );
				break;
			}
			case 4:
				manager.Stop( anim );
				model.Stop( anim );
				break;
			case 5:
				if ( random() % 4 == 0 ) {
					manager.StopAll();
					model.StopAll();
				}
				break;
			case 6:
				manager.ChangeBlendParam( params );
				model.ChangeBlendParam( params );
				break;
			case 7:
				if ( model.Building() ) {
					manager.EndTree();
					model.EndTree();
				} else {
					manager.BeginTree();
					model.BeginTree();
				}
				break;
			default: {
				const u32 clip = random() % 6;
				const bool paused = random() % 8 == 0;
				const bool post = random() % 2;
				const f32 dt = steps[random() % 7];
				manager.muiClipMode = clip == 0 ? EF_ANIM_CLIP_ALL : clip == 1 ? EF_ANIM_CLIP_HIERARCHY : EF_ANIM_CLIP_NONE;
				manager.muiFlags = ( manager.muiFlags & ~EF_ANIM_MGR_PAUSED ) | ( paused ? EF_ANIM_MGR_PAUSED : 0 );
				manager.mbSendPostUpdateNotif = post;
				manager.Update( dt );
				model.Update( dt, manager.muiClipMode, paused, post );
				break;
			}
			}
			failure = CheckInvariants( world );
			// Tree, states, times, blend parameters, notifications and pose
			// as the model has them.
			const std::string engine = EngineText( world, k );
			const std::string reference = ModelText( world, k );
			if ( engine != reference ) {
				failure += "tree differs from the model:\n  engine: " + engine + "\n  model:  " + reference;
			}
			const std::vector<Heard> heard = world.recorder.Flush();
			if ( heard != world.expected ) {
				failure += "notifications " + Log( heard ) + "want " + Log( world.expected ) + "; ";
			}
			failure += ComparePose( world, k );
			if ( trace != nullptr && std::strtoul( trace, nullptr, 10 ) == seed ) {
				std::printf( "step %u k %u op %u anim %u flags %u time %g\n  %s\n", step, k, op, anim, flags, time, engine.c_str() );
			}
			if ( !failure.empty() ) {
				failure = "step " + std::to_string( step ) + " op " + std::to_string( op ) + " anim " + std::to_string( anim ) +
						  " flags " + std::to_string( flags ) + " time " + std::to_string( time ) + ": " + failure +
						  "\n  before: " + before;
			}
		}
		ASSERT_TRUE( failure.empty() ) << "seed " << seed << ": " << failure;
	}
}

INSTANTIATE_TEST_SUITE_P( Nodes, EFAnimRandomSequence, ::testing::Values( SkeletalKind::Scripted, SkeletalKind::Stored ),
						  []( const ::testing::TestParamInfo<SkeletalKind>& info ) { return KindName( info.param ); } );

}
